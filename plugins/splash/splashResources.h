/* Resource ids of splash.vkm, shared by splash.rc and the code. */
#ifndef VESK_SPLASH_RESOURCES_H
#define VESK_SPLASH_RESOURCES_H

#define IDB_SPLASH 101 /* the picture: 400 x 293, 256 colours */

#endif
