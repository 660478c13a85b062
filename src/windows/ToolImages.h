#pragma once
// The small pictures of the configuration windows' toolbars, drawn in code.
#include <QIcon>

enum class TToolImage { Add, New, Clear, Unselect, Open, Save, SaveAs, Close };

QIcon ToolImage(TToolImage image);
