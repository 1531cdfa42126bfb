/* Identifiers shared by the program and its resource script. */
#ifndef MARBELO_CLEANER_RESOURCE_IDS_H
#define MARBELO_CLEANER_RESOURCE_IDS_H

#define IDI_CLEANER 107

#endif
