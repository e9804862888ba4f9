#pragma once
// A subtitle drawn with HTML and CSS from its rows of cells, so a page shows what a viewer would
// see without any image: teletext as a 40-column grid of cells with their colours, boxes and
// double height, open subtitles as rows of styled text. Each row carries its screen row number.

#include <string>
#include <vector>

#include "subtitle/Cell.h"

namespace html {

// The classes a drawing uses; a page that shows drawings adds this to its style.
extern const char* const drawingStyle;

// Rows as the subtitle model gives them for one subtitle. Justification (JC) places open rows;
// teletext rows carry their column already.
void appendDrawing(std::string& out, const std::vector<subtitle::Row>& rows, bool teletext,
                   int justification = 2);

}  // namespace html
