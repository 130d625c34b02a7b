/* The pane's nib window and moving its controls into the dialog. */
#ifndef QEL_NIB_H
#define QEL_NIB_H

#include <Carbon/Carbon.h>

WindowRef CreatePDEWindow(void);
ControlRef GetControlFromWindow(WindowRef inSourceWindow, OSType inControlSignature, SInt32 inControlID);
OSStatus MoveControlToPane(WindowRef inSourceWindow, OSType inControlSignature, SInt32 inControlID,
                           ControlRef inDestinationPane);

#endif
