#pragma once

#include <QElapsedTimer>
#include <QHeaderView>
#include <QTableView>

namespace trelok {

// A list in report view: lines of texts in columns, a line chosen and framed
// whole, the last column reaching the right edge, as a QTreeView shows a
// list without branches; but it holds nothing for each line (a QTreeView
// keeps an item of about 40 bytes for every line and lays them all out on
// every change), so a list of a million lines costs the view what one of ten
// does. The keys are the tree's: Up, Down, Page Up, Page Down, Home and End
// move between lines in the same column, Left and Right scroll sideways, Tab
// leaves the list; typing the beginning of a line's text in the current
// column makes it current (keyboardSearch). A screen reader sees a table.
class LineView : public QTableView {
    Q_OBJECT
public:
    explicit LineView(QWidget *parent = nullptr);

    // The column captions.
    QHeaderView *header() const { return horizontalHeader(); }
    void setHeaderHidden(bool hidden) { horizontalHeader()->setHidden(hidden); }

    void keyboardSearch(const QString &search) override;

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // Every line as high as a line of text in the view's font.
    void fitLineHeight();

    QString m_typed;
    QElapsedTimer m_typedAt;
};

} // namespace trelok
