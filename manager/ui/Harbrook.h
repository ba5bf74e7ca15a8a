#pragma once

// The manager's program block: start-up checks, the communication library, the main menu and its
// message loop. Returns the process's exit code. The program links the operator stand-in it runs
// with (common/ui/StandIn.h).
int HarbrookMain(int argc, char **argv);
