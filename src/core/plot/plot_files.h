// The files of plots: point files and the names of saved pictures.
#pragma once

#include <cstdint>

#include "core/text/u16.h"

namespace quadrel {

struct Engine;

// The folder of point files and pictures: the one set for the program, or
// the library's folder; ends with a separator.
Text plotHomeFolder(Engine& e);
// Pictures go to the home folder + "Quadrel" when that folder exists.
Text pictureFolder(Engine& e);

// "Id\tX\tY\r\n", then one line per sample whose y is a number.
Text pointsText(const double* xs, const double* ys, size_t count);
// Writes the points of the latest plot; a relative name goes to the home
// folder + "otmXNpp" (created when missing). A file that cannot be written
// shows the "rEroRezu" box; false then.
bool writePointsFile(Engine& e, TextView name);

// The file name of the next picture for a save mode: empty for the empty
// mode (capture only); "0", "-1" and a folder name a numbered picture
// "aPlotNr_NN.jpg" and advance the picture counter.
Text nextPictureName(Engine& e, TextView saveMode);

}  // namespace quadrel
