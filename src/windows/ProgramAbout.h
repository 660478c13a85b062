#pragma once
// The program's own About box: texts, pages and the two logos the main window shows.
#include <QPixmap>

class TQELAboutBox;

inline constexpr const char* MakerWebAddress = "https://trevalo.example.org/";

// Caption and product name "Trevalo", version line "Version: " (the main window appends the
// version text when it is shown), the product, customer and manufacturer pages, the makers'
// notice and addresses, and the logos.
void SetUpProgramAboutBox(TQELAboutBox& box);

// Pictures of 396 by 76 pixels.
QPixmap DrawProductLogo();
QPixmap DrawMakerLogo();
