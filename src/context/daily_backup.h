#pragma once

namespace trelok {

struct AppContext;

// The first start of a day copies the database into the backup folder of
// the application directory (data/backup.h). A failure is told to the user
// once and the program goes on.
void backUpOnFirstStartOfDay(AppContext &context);

} // namespace trelok
