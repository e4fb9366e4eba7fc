#pragma once
// Window placement kept in the per-user settings store: application = the program's executable name,
// section = the form's Name, keys "Izquierda", "Arriba", "Largo", "Altura" (twips, a Single as text),
// "Visible" ("True"/"False") and "Status" (0 normal, 1 minimised, 2 maximised).
//
// An MDI child is measured by its frame in the MDI area; any other form as a window on the screen (its
// position and the size of its inside, which is what restoring it sets). A minimised or maximised form
// keeps the place it had before, so that it comes back there when the user restores it.
#include <QString>

class QWidget;

namespace ui {

// The program's executable name without folder or extension ("tornavo", "plicadora").
QString exeName();

// Puts a form where it was saved. Keys are read in the order above; a key missing or unreadable leaves
// that property as designed. "Visible" is read but not applied: every placed form is shown by the call
// that loaded it. A place that no screen shows (or, for an MDI child, outside the MDI area) is brought
// back into view. A state asked of an MDI child not yet shown takes effect when it is shown.
void UbicaForma(QWidget* form);

// Saves a form's place, all six keys, whatever its state. A store that cannot be written is ignored.
void GrabaForma(QWidget* form);

}  // namespace ui
