#include "platform/dash_ops.h"

using namespace Qt::StringLiterals;

namespace trelok {

QString dvoi_crtka(DashPieces &pieces, const QString &mtxt_)
{
    const QString s = mtxt_.trimmed();
    if (s.isEmpty())
        return {};
    int count = 0;
    QString piece;
    for (const QChar c : s) {
        if (c != u'-') {
            piece.append(c);
            continue;
        }
        ++count;
        if (count <= 5)
            pieces[count - 1] = piece;
        piece.clear();
    }
    if (count < 5)
        pieces[count] = piece;
    return {};
}

DashPieces dashPieces(const QString &text)
{
    DashPieces pieces;
    dvoi_crtka(pieces, text);
    return pieces;
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
