// The reader's side of the reports: room for one, kept per thread.
#pragma once

#include "scene/reports.h"

void startReportLog();
// Room for the next report of this reading, or null once kReportsShown are
// kept (the report is then only counted).
SceneReport* newReport();
