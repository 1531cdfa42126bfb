// Junctions and other redirections that the process refuses to follow.
#ifndef MARBELO_CLEANER_REDIRECTION_GUARD_H
#define MARBELO_CLEANER_REDIRECTION_GUARD_H

// Makes the process follow no junction that a non-administrator made, where
// this Windows can (RedirectionGuard: Windows 11, and Windows 10 from 22H2).
// Must run before the data folder is looked up.
void GuardAgainstRedirection();

#endif
