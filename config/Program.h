#pragma once

// What the program sets up on its application before it makes the main window: the maker of the
// configurator's window, which the MDI list below this layer cannot name.
void PrepareApplication();
