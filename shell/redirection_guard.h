// Junctions and other redirections that the process refuses to follow.
#ifndef MARBELO_CLEANER_REDIRECTION_GUARD_H
#define MARBELO_CLEANER_REDIRECTION_GUARD_H

// Makes the process follow no junction that a non-administrator made, where
// this Windows has RedirectionGuard (Microsoft does not say from which version).
// Must run before the data folder is looked up.
void GuardAgainstRedirection();

#endif
