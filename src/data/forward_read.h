#pragma once

#include "data/result.h"

#include <QByteArray>
#include <QByteArrayView>

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace trelok {

class Store;

// A key of a list's order: an expression the engine compares (with its
// collation), bound as a whole number when number is set.
struct ListKey {
    QByteArray expression;
    bool number = false;
};

// Keys of these expressions, the one at number (if any) a whole number.
std::vector<ListKey> listKeys(std::span<const char *const> expressions, int number = -1);

// A long list in the order of its keys, all ascending or all descending:
// the columns a line shows, its table, its keys (an index holds them, so a
// read seeks its first row).
struct ListOrder {
    QByteArray columns;
    int columnCount = 0;
    QByteArray table;
    std::vector<ListKey> keys;
    bool descending = false;
};

// Where a list read forward stopped: the keys of the last row read (a Null
// as nothing) and how many rows read have those keys; nothing read yet when
// keys is empty.
struct ListPlace {
    std::vector<std::optional<std::string>> keys;
    int alike = 0;
};

// Reads at most count rows of the list after place (from its first row
// when nothing is read), in the list's order, without walking the rows
// read before: the rows with the last row's keys beyond those read, then
// the rows alike in all keys but the last and after it in that one, and so
// on to those after it in the first key; each part is one seek of the
// index. A Null key is ordered where the engine orders it (the file before
// every text, the server after every text). visit gets each row's cells,
// the line's columns then its keys; place follows the rows read. Gives how
// many rows were read.
DbResult<int> readForward(Store &store, const ListOrder &order, ListPlace &place, int count,
                          const std::function<void(const QByteArrayView *cells)> &visit);

} // namespace trelok
