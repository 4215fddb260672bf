#pragma once

namespace trelok {

struct HeadlessRun;

// The commands that replace a whole table from a CSV file or write it out:
// the print layout (--import-layout, --export-layout) and the code lists
// (--import-municipalities, --import-offices, --import-kinds and their
// --export- forms). Entries of headlessCommands().
int importLayoutCommand(HeadlessRun &run);
int exportLayoutCommand(HeadlessRun &run);
int importMunicipalitiesCommand(HeadlessRun &run);
int exportMunicipalitiesCommand(HeadlessRun &run);
int importOfficesCommand(HeadlessRun &run);
int exportOfficesCommand(HeadlessRun &run);
int importKindsCommand(HeadlessRun &run);
int exportKindsCommand(HeadlessRun &run);

} // namespace trelok
