#include "print/dash_ops.h"

#include "context/shared_state.h"

using namespace Qt::StringLiterals;

namespace trelok {

QString dvoi_crtka(SharedState &state, const QString &mtxt_)
{
    const QString s = mtxt_.trimmed();
    if (s.isEmpty())
        return {};
    QString *pieces[] = {&state.prm1, &state.prm2, &state.prm3, &state.prm4, &state.prm5};
    int count = 0;
    QString piece;
    for (const QChar c : s) {
        if (c != u'-') {
            piece.append(c);
            continue;
        }
        ++count;
        if (count <= 5)
            *pieces[count - 1] = piece;
        piece.clear();
    }
    if (count < 5)
        *pieces[count] = piece;
    return {};
}

QString crtka(const QString &mtxt_, const QString &fja_, int posle_, const QString &sto_)
{
    const QString result = mtxt_;
    const QString s = mtxt_.trimmed();
    if (s.isEmpty())
        return {};
    if (fja_.toUpper() != u"ADD"_s)
        return result;
    if (posle_ == 0)
        return sto_ + s;
    int count = 0;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == u'-')
            ++count;
        if (count == posle_)
            return s.left(i + 1) + sto_ + s.mid(i + 1);
    }
    return result;
}

QString zasy2mk(const QString &zborce)
{
    return zborce;
}

} // namespace trelok
