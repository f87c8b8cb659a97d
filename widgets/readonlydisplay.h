#pragma once

class QWidget;

namespace zonara {

// A control that only shows a value stays disabled (nobody edits it, Tab passes it over) and
// looks greyed, yet its text keeps the colour of enabled text: the platform's disabled text
// reads at 1.5:1 against its background, too faint for the main information of a window. The
// colour follows the desktop's palette when it changes.
void showTextAsEnabled(QWidget &control);

} // namespace zonara
