/* What the version block of rsrc.vkm says. The build text appears in the
   host's banner, lower-cased, at most 15 characters. */
#ifndef VESK_RSRC_VERSION_H
#define VESK_RSRC_VERSION_H

#define VESK_VERSION_NUMBERS 0, 1, 0, 0
#define VESK_VERSION_TEXT "0.1.0.0"
#define VESK_PRIVATE_BUILD " 0.1"

#endif
