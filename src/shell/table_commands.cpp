#include "shell/table_commands.h"

#include "data/table_file.h"
#include "print/layout.h"
#include "refdata/code_lists.h"
#include "shell/headless_commands.h"

namespace trelok {

namespace {

int importTable(HeadlessRun &run, const TableFile &table, const char *option)
{
    return importTableFile(run.store, table, run.options.value(option),
                           run.options.isSet("makscii"), run.out, run.err);
}

int exportTable(HeadlessRun &run, const TableFile &table, const char *option)
{
    return exportTableFile(run.store, table, run.options.value(option), run.err);
}

} // namespace

int importLayoutCommand(HeadlessRun &run)
{
    return importTable(run, layoutFile(), "import-layout");
}

int exportLayoutCommand(HeadlessRun &run)
{
    return exportTable(run, layoutFile(), "export-layout");
}

int importMunicipalitiesCommand(HeadlessRun &run)
{
    return importTable(run, municipalityList(), "import-municipalities");
}

int exportMunicipalitiesCommand(HeadlessRun &run)
{
    return exportTable(run, municipalityList(), "export-municipalities");
}

int importOfficesCommand(HeadlessRun &run)
{
    return importTable(run, customsOfficeList(), "import-offices");
}

int exportOfficesCommand(HeadlessRun &run)
{
    return exportTable(run, customsOfficeList(), "export-offices");
}

int importKindsCommand(HeadlessRun &run)
{
    return importTable(run, kindList(), "import-kinds");
}

int exportKindsCommand(HeadlessRun &run)
{
    return exportTable(run, kindList(), "export-kinds");
}

} // namespace trelok
