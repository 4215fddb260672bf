#pragma once

#include <QString>

#include <array>

namespace trelok {

// The boxes the reference number is typed in, left to right (p_nal1 to
// p_nal5): the kind, the year, the customs office, the number, the mark.
using ReferenceSegments = std::array<QString, 5>;

// What the checks of a kind ask of the reference line, beyond the checks
// every order runs.
enum class OfficeCheck {
    None,
    Picked,   // an empty office box opens the customs office picker
    Required, // the same, and a box still empty stops the save
};
enum class NumberCheck {
    None,
    Declaration,  // the declaration's reference number, digits
    Registration, // the declaration's registration number, digits
    Taxpayer,     // a taxpayer number, when one is typed
};
enum class MarkCheck {
    None,
    ZeroOrOne, // the mark is "0" or "1"
    One,       // the mark is "1"
};

// One payment kind: its code in tbl_vid and everything that depends on it.
// Segments are named by their digit, "1" to "5" (p_nal1 to p_nal5).
struct PaymentKind {
    const char *code;
    const char *referenceCode; // what the kind segment of a new order shows
    // The segments joined by "-" into the stored reference number; with
    // lastWhenTyped the last one (and its dash) only when it is not blank.
    const char *composed;
    bool lastWhenTyped = false;
    // The segments the pieces of a stored reference number go back to, in
    // order; the other segments are emptied.
    const char *split;
    const char *hint;         // the caption of the button under the number box
    const char *newMark = ""; // the mark of a new order
    // The reference is a guarantee number of 10 characters typed in a wide
    // office box: a new order starts it with the code, leaving the box
    // copies it into an empty purpose line, which is then no taxpayer number.
    bool guarantee = false;
    bool year = false; // the year segment is compared with the current year
    OfficeCheck office = OfficeCheck::None;
    NumberCheck number = NumberCheck::None;
    MarkCheck mark = MarkCheck::None;
};

inline constexpr PaymentKind paymentKinds[] = {
    {.code = "108",
     .referenceCode = "108",
     .composed = "1234",
     .split = "1234",
     .hint = "(Referenten br)",
     .year = true,
     .office = OfficeCheck::Required,
     .number = NumberCheck::Declaration},
    {.code = "205",
     .referenceCode = "205",
     .composed = "12345",
     .lastWhenTyped = true,
     .split = "12345",
     .hint = "(Y-Broj.ecd.)",
     .year = true,
     .office = OfficeCheck::Required,
     .number = NumberCheck::Registration,
     .mark = MarkCheck::ZeroOrOne},
    {.code = "GAR",
     .referenceCode = "900",
     .composed = "12345",
     .lastWhenTyped = true,
     .split = "12345",
     .hint = "(Y-Broj.ecd.)",
     .newMark = "1",
     .year = true,
     .office = OfficeCheck::Required,
     .number = NumberCheck::Registration,
     .mark = MarkCheck::One},
    {.code = "701",
     .referenceCode = "701",
     .composed = "134",
     .lastWhenTyped = true,
     .split = "1345",
     .hint = "(Dan.br/prazno)",
     .office = OfficeCheck::Picked,
     .number = NumberCheck::Taxpayer},
    {.code = "900",
     .referenceCode = "900",
     .composed = "3",
     .split = "3",
     .hint = "(Garancija br)",
     .guarantee = true},
};

// The kind of a code, compared exactly; nullptr for any other code, whose
// orders keep their reference number whole and run only the general checks.
const PaymentKind *paymentKind(const QString &code);

// True when the segment (1 to 5) is typed for the kind.
bool showsSegment(const PaymentKind &kind, int segment);

// The stored reference number composed of the segments as typed.
QString composeReference(const PaymentKind &kind, const ReferenceSegments &segments);

// The segments a stored reference number is split back into.
ReferenceSegments splitReference(const PaymentKind &kind, const QString &reference);

} // namespace trelok
