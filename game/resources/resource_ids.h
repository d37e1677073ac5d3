/* The program's resources by number: tavik.rc and the code that loads them include this one
   list. Plain #defines, because the resource compiler reads it too. */
#ifndef TAVIK_GAME_RESOURCES_RESOURCE_IDS_H
#define TAVIK_GAME_RESOURCES_RESOURCE_IDS_H

#define IDB_BOARD_GREEN 101    /* board design 1, 100 x 100 tile */
#define IDB_STONE_GO_BLACK 102 /* stone design 1, 50 x 50 on the colour key */
#define IDB_STONE_GO_WHITE 103
#define IDB_BANNER 104           /* the version window's 88 x 31 picture */
#define IDB_BOARD_BLUEGREEN 105  /* board design 2 */
#define IDB_STONE_FLAT_BLACK 106 /* stone design 2 */
#define IDB_STONE_FLAT_WHITE 107
#define IDB_BOARD_GRASS 108 /* board design 3 */
#define IDI_TAVIK 109       /* the main window's icon */
#define IDI_TAVIK_SMALL 110 /* the record window's small icon */

#endif
