// The main job: merge the answer-file and registry layouts, add the add-on tiles region by region,
// write the new StartTiles section and clear the registry layout once that write succeeded.
#pragma once

// Gives the exit code: 0 when the answer file holds the new section, 1 otherwise.
int RunDefaultMode();
