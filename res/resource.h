// Resource numbers, shared by the resource script and the program.
//
// This is also the list of the program's resources: tools/mkres.py reads every line
//   #define NAME NUMBER  // KIND art-file
// and makes from it the images, the Windows resource script and the Linux build's table.
#ifndef DISCFIRE_RES_RESOURCE_H
#define DISCFIRE_RES_RESOURCE_H

#define IDI_APP 107       // ICON art/app.txt
#define IDB_MARK_OFF 130  // BITMAP art/mark_off.txt
#define IDB_MARK_ON 131   // BITMAP art/mark_on.txt
#define IDB_FLAME_A 132   // BITMAP art/flame_a.txt
#define IDB_FLAME_B 133   // BITMAP art/flame_b.txt

#endif
