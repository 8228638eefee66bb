// What the recapitulative statement (ZM, § 18a UStG) may contain: the VAT
// identification numbers of customers in the other member states, and the
// revenue that is reported under them. One table and one rule, asked by the
// booking checks (EingabePruefer, for `book` and the CSV import) and by the
// statement itself (zm.cpp), so what can be booked with a VAT number and
// what is reported never drift apart.
#pragma once

#include <QString>

namespace UStId {

// The kinds as stored on a booking header (ZMArt) and as typed with
// `book --zm`; the statement writes them as "S", "D" and "L".
enum BuchungsArt { KeineMeldung = 0, SonstigeLeistung = 1, Dreiecksgeschaeft = 2, Lieferung = 3 };

// The German refusal for `id` (as stored: upper case, no blanks), empty
// when it carries the prefix of a member state other than Germany in 2016
// (Greece as "EL", the United Kingdom still a member) and the rest has that
// state's length and character pattern. A check of the form only: whether
// the number was issued is the business of the confirmation service.
QString pruefen(const QString& id);

// The kind a revenue line is reported as, KeineMeldung when it is none.
// `kategorie` is the account's category, `ustvaKennziffer` the line's code
// on the advance return (the account's own code, else its key's), and
// `steuerfreiOderAuslaendisch` whether its key is an output key without
// German tax. Only revenue that the advance return shows in 41
// (intra-Community supplies), 42 (first buyer's supply in a triangular
// transaction) or 21 (services taxable in the recipient's state, § 3a
// Abs. 2) is reported; purchases, domestic sales and § 13b sales in
// Germany never are.
BuchungsArt artDerZeile(unsigned long kategorie, unsigned long ustvaKennziffer, bool steuerfreiOderAuslaendisch);

// The revenue categories (4000..4999 without 4203, received discounts that
// reduce expenses).
bool istErloesKategorie(unsigned long kategorie);

// The advance-return codes of the three kinds, for the statement's query.
constexpr unsigned long kKennzifferLieferung = 41, kKennzifferDreieck = 42, kKennzifferLeistung = 21;

// "L", "D" or "S" with a German description, for messages.
QString artText(int buchungsArt);

}  // namespace UStId
