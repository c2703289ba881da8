// The only dependencies between controls: a switch decides whether the boxes that refine it
// can be changed. Applied by the form after every load and every click, never left to a
// toolkit's change signal, which toolkits send in different cases.
#pragma once

#include "form/form_view.h"

namespace form {

// "Создавать каталоги" can be changed exactly while subfolders are synchronised.
void ApplySubfolderRule(FormView& view);
// The five attribute boxes can be changed exactly while "Атрибуты" is checked.
void ApplyAttributeRule(FormView& view);

}  // namespace form
