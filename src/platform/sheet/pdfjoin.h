#pragma once
// Joins PDF documents written by Qt's PDF writer (QPdfWriter, QPrinter's PDF output) into one, page
// after page. A long sheet is printed to PDF in parts, one per processor, and the parts joined.
//
// Only the structure Qt writes is understood: a classic cross-reference table, no object streams,
// every object "N 0 obj ... endobj", the document's pages under one /Pages node. Each part keeps its
// own objects (fonts included), renumbered; its /Pages node goes under a new root.
#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

namespace wb::pdf {

// The joined document with the title and creator given; nothing when a part is not a document of
// that structure.
std::optional<QByteArray> join(const std::vector<QByteArray>& parts, const QString& title, const QString& creator);

// Pages of a document of that structure (the /Count of its root /Pages node); -1 when unreadable.
int pageCount(const QByteArray& document);

}  // namespace wb::pdf
