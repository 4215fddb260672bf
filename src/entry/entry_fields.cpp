#include "entry/entry_fields.h"

using namespace Qt::StringLiterals;

namespace trelok {

EntryFields EntryFields::design()
{
    EntryFields fields;
    fields.s_pri = u"1 0 0 0 0 0 0 0 0 0 6 3 0 9 5"_s;
    return fields;
}

const QList<std::pair<QString, EntryFields::Member>> &EntryFields::boxes()
{
    static const QList<std::pair<QString, Member>> list{
        {u"nal1"_s, &EntryFields::nal1},     {u"nal2"_s, &EntryFields::nal2},
        {u"b_nal"_s, &EntryFields::b_nal},   {u"s_nal"_s, &EntryFields::s_nal},
        {u"d_nal"_s, &EntryFields::d_nal},   {u"p_nal1"_s, &EntryFields::p_nal1},
        {u"p_nal2"_s, &EntryFields::p_nal2}, {u"p_nal3"_s, &EntryFields::p_nal3},
        {u"p_nal4"_s, &EntryFields::p_nal4}, {u"p_nal5"_s, &EntryFields::p_nal5},
        {u"c_nal1"_s, &EntryFields::c_nal1}, {u"c_nal2"_s, &EntryFields::c_nal2},
        {u"p_nal"_s, &EntryFields::p_nal},   {u"s_pri"_s, &EntryFields::s_pri},
        {u"mkd1"_s, &EntryFields::mkd1},     {u"mkd2"_s, &EntryFields::mkd2},
        {u"us1"_s, &EntryFields::us1},       {u"us2"_s, &EntryFields::us2},
        {u"us3"_s, &EntryFields::us3},       {u"sb1"_s, &EntryFields::sb1},
        {u"sb2"_s, &EntryFields::sb2},       {u"sb3"_s, &EntryFields::sb3},
        {u"ps1"_s, &EntryFields::ps1},       {u"ps2"_s, &EntryFields::ps2},
        {u"nac"_s, &EntryFields::nac},       {u"dat"_s, &EntryFields::dat},
        {u"mes"_s, &EntryFields::mes},       {u"valu"_s, &EntryFields::valu},
    };
    return list;
}

} // namespace trelok
