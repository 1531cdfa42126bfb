/* The publisher's details, shared by the program's texts and its version
   block. Plain C string literals, so that both the compiler and the resource
   compiler read them; the C++ side widens them with an L"" prefix. */
#ifndef MARBELO_CLEANER_PUBLISHER_H
#define MARBELO_CLEANER_PUBLISHER_H

#define PUBLISHER_WEB_ADDRESS "www.tavrion.nl"
#define PUBLISHER_CREDIT_LINE "Tavrion - " PUBLISHER_WEB_ADDRESS
#define PUBLISHER_COPYRIGHT "Copyright (C) 2011 Tavrion"

/* Caption of every message box, and the file description in the version block. */
#define PRODUCT_CAPTION "Tavrion - Marbelo Databank Cleaner"

#endif
