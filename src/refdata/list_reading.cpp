#include "refdata/list_reading.h"

#include "context/app_context.h"
#include "data/paged_list_model.h"

#include <QTimer>
#include <QWidget>

namespace trelok {

ListReading::ListReading(PagedListModel &model, int firstStep, AppContext &context,
                         QObject *parent)
    : IdleReading(
          firstStep, [&model](int lines) { return model.readMore(lines).ok(); },
          [&model] { return model.allRead(); }, parent),
      m_model(model), m_context(context)
{
    connect(&model, &PagedListModel::readFailed, this, [this] {
        QTimer::singleShot(0, this, [this] {
            if (auto failed = m_model.takeFailure())
                m_context.fail(*failed);
        });
    });
}

bool ListReading::readAll()
{
    return finish([this] {
        auto read = m_model.readAll();
        if (!read)
            m_context.fail(read);
        return read.ok();
    });
}

void ListReading::stepped()
{
    auto *window = qobject_cast<QWidget *>(parent());
    if (!window)
        return;
    if (running() && m_model.searching())
        window->setCursor(Qt::BusyCursor);
    else
        window->unsetCursor();
}

} // namespace trelok
