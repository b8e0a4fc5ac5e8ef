// Names of the library's earlier modules as users see them: box captions,
// message titles and the module tags of error descriptions. They stay
// exactly as first written, odd spellings included, because stored logs,
// scripts and callers that compare texts depend on them.
#pragma once

#include "core/text/u16.h"

namespace quadrel {

// Caption of the library's own boxes (logs, matrix prints, the
// differentiation trace) and the default library name of the about text.
inline constexpr TextView kLibraryName = u"oTemar.dll";

// Titles of the evaluator's messages and boxes.
inline constexpr TextView kEvaluatorErrorTitle = u"RaRarevo: Error";
inline constexpr TextView kEvaluatorTraceTitle = u"RaRarevo: Trace";
inline constexpr TextView kIntegrateTitle = u"RaRarevo: Integrate";

// Caption of the box that says a plot file cannot be written.
inline constexpr TextView kPlotWriteCaption = u"rEroRezu";

// Module tag of the matrix library; its error descriptions in the message
// table end with "(Module: aMatr)" written out in full, runs of blanks
// included, so each stays one exact text.
inline constexpr TextView kMatrixModuleName = u"aMatr";

}  // namespace quadrel
