#pragma once
// Column layouts of the list windows' grids, kept in one file ("kortorn.grx" in the program folder)
// under one name per window. The file is UTF-8 text of our own:
//
//   [FrmPre]
//   field<TAB>Precio<TAB>1400<TAB>1
//   caption<TAB>Periodo 1<TAB>1000<TAB>0
//
// a "[name]" line opens a layout; each following line is one column: "field" and the DataField of
// a bound column, or "caption" and the Caption of an unbound one, its width in twips and 1 when it
// is visible (0 hidden). Lines that do not read so are skipped, except for a damaged width, which
// reads as none; names match ignoring letter case.
// No widgets here: the grid applies what it reads.
#include <QString>
#include <optional>
#include <vector>

namespace ui {

struct ColumnLayout {
  bool bound = true;   // named by DataField, else by Caption
  QString name;
  int width = 0;       // twips; 0 when none was stored or it was damaged (the designed width holds)
  bool visible = true;
};
using GridLayout = std::vector<ColumnLayout>;

// The named layout; nullopt when the file cannot be read or holds no such layout.
std::optional<GridLayout> readGridLayout(const QString& file, const QString& name);

// Stores the layout under name, replacing the one stored there and keeping the file's others; the
// file is replaced whole or not at all. False when it cannot be written.
bool writeGridLayout(const QString& file, const QString& name, const GridLayout& layout);

}  // namespace ui
