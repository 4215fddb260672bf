#pragma once

#include "platform/idle_reading.h"

namespace trelok {

struct AppContext;
class PagedListModel;

// A long list's lines read while its window is open (IdleReading), failures
// told as the windows tell them: a page the view could not read, once the
// window is back in its event loop, and a whole reading that failed. The
// parent is the window.
class ListReading : public IdleReading {
public:
    ListReading(PagedListModel &model, int firstStep, AppContext &context, QObject *parent);

    // Reads every line not read yet, under the hourglass; false, told, when
    // reading failed.
    bool readAll();

protected:
    // The window shows the busy pointer while a search it shows is still
    // looking through lines being read.
    void stepped() override;

private:
    PagedListModel &m_model;
    AppContext &m_context;
};

} // namespace trelok
