#pragma once

// The manager's program block: start-up checks, the communication library, the main menu and its
// message loop. Returns the process's exit code.
int HarbrookMain(int argc, char **argv);
