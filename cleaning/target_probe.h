// Tells whether Marbelo is running, by the class names of its top-level windows.
#ifndef MARBELO_CLEANER_TARGET_PROBE_H
#define MARBELO_CLEANER_TARGET_PROBE_H

bool IsTargetRunning();

#endif
