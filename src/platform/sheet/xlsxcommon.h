#pragma once
// Names, namespaces and path helpers shared by the .xlsx reader and writer.
#include <QString>
#include <array>

namespace wb::xlsx {

inline constexpr const char* kNsMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
inline constexpr const char* kNsRel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
inline constexpr const char* kNsPkgRel = "http://schemas.openxmlformats.org/package/2006/relationships";
inline constexpr const char* kNsXdr = "http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing";
inline constexpr const char* kNsA = "http://schemas.openxmlformats.org/drawingml/2006/main";
inline constexpr const char* kRelBase = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

inline constexpr std::array<const char*, 19> kPatterns = {
    "none",           "solid",         "mediumGray",  "darkGray",   "lightGray",    "darkHorizontal", "darkVertical",
    "darkDown",       "darkUp",        "darkGrid",    "darkTrellis", "lightHorizontal", "lightVertical", "lightDown",
    "lightUp",        "lightGrid",     "lightTrellis", "gray125",   "gray0625"};

inline constexpr std::array<const char*, 14> kLineStyles = {
    "none",   "thin",    "medium",        "dashed",     "dotted",           "thick",       "double",
    "hair",   "mediumDashed", "dashDot", "mediumDashDot", "dashDotDot", "mediumDashDotDot", "slantDashDot"};

// Index = HAlign value - 1 / VAlign value - 1.
inline constexpr std::array<const char*, 8> kHAligns = {"general", "left",    "center",           "right",
                                                        "fill",    "justify", "centerContinuous", "distributed"};
inline constexpr std::array<const char*, 5> kVAligns = {"top", "center", "bottom", "justify", "distributed"};

// "a/b/../c" and "/x" resolved against the folder of `source` (a part name without a leading "/").
QString resolvePart(const QString& source, const QString& target);
// The relative target from part `source` to part `target`.
QString relativePart(const QString& source, const QString& target);
// The relationships part of a part: "xl/workbook.xml" -> "xl/_rels/workbook.xml.rels".
QString relsPartOf(const QString& part);
// ST_Xstring escapes "_xHHHH_" used for characters XML cannot hold.
QString decodeXString(const QString& s);
QString encodeXString(const QString& s);

// What went wrong, in the words of a message to the user ("No se puede abrir el archivo ...: <cause>"),
// never the English of the libraries underneath: a libzip error (ZIP_ER_*), a pugixml parse status,
// and a file that cannot be opened to be read.
QString zipCause(int zipError);
QString xmlCause(int parseStatus);
QString readCause(const QString& path);

}  // namespace wb::xlsx
