/* Loading the window "Window" of the nib "PDE" and embedding its container in the dialog. */
#include "qel-nib.h"
#include "qel-bundle.h"

/* The nib window, or NULL. The caller disposes of it. */
WindowRef CreatePDEWindow(void)
{
    CFBundleRef pdeBundle = GetPaneBundle();
    if (pdeBundle == NULL)
        return NULL;

    IBNibRef pdeNib = NULL;
    if (CreateNibReferenceWithCFBundle(pdeBundle, CFSTR("PDE"), &pdeNib) != noErr)
        return NULL;

    WindowRef window = NULL;
    OSStatus err = CreateWindowFromNib(pdeNib, CFSTR("Window"), &window);
    DisposeNibReference(pdeNib);
    return err == noErr ? window : NULL;
}

/* The control with that ControlID anywhere in the window, or NULL. */
ControlRef GetControlFromWindow(WindowRef inSourceWindow, OSType inControlSignature, SInt32 inControlID)
{
    ControlID controlID = { inControlSignature, inControlID };
    ControlRef control = NULL;
    if (GetControlByID(inSourceWindow, &controlID, &control) != noErr)
        return NULL;
    return control;
}

/* Half of the amount by which the nib window exceeds the pane in one direction, 0 when the pane
   is at least as large. Coordinates are widened before subtracting; the quotient truncates. */
static SInt16 CenteringDelta(SInt16 sourceLow, SInt16 sourceHigh, SInt16 destinationLow, SInt16 destinationHigh)
{
    SInt32 sourceExtent = (SInt32)sourceHigh - (SInt32)sourceLow;
    SInt32 destinationExtent = (SInt32)destinationHigh - (SInt32)destinationLow;
    SInt16 delta = (SInt16)((sourceExtent - destinationExtent) / 2);
    return delta < 0 ? (SInt16)0 : delta;
}

/* Moves the control into the destination pane, keeping its offset from the nib window's content
   origin measured from the pane's top-left corner, plus the centring deltas. */
OSStatus MoveControlToPane(WindowRef inSourceWindow, OSType inControlSignature, SInt32 inControlID,
                           ControlRef inDestinationPane)
{
    if (inSourceWindow == NULL || inDestinationPane == NULL)
        return paramErr;

    ControlID controlID = { inControlSignature, inControlID };
    ControlRef controlToMove = NULL;
    OSStatus err = GetControlByID(inSourceWindow, &controlID, &controlToMove);
    if (err != noErr)
        return err;

    Rect sourceWindowBounds;
    err = GetWindowBounds(inSourceWindow, kWindowContentRgn, &sourceWindowBounds);
    if (err != noErr)
        return err;

    Rect controlToMoveBounds;
    Rect destinationBounds;
    GetControlBounds(controlToMove, &controlToMoveBounds);
    GetControlBounds(inDestinationPane, &destinationBounds);

    SInt16 horizontalDelta = CenteringDelta(sourceWindowBounds.left, sourceWindowBounds.right,
                                            destinationBounds.left, destinationBounds.right);
    SInt16 verticalDelta = CenteringDelta(sourceWindowBounds.top, sourceWindowBounds.bottom,
                                          destinationBounds.top, destinationBounds.bottom);

    OffsetRect(&controlToMoveBounds, (SInt16)(destinationBounds.left + horizontalDelta),
               (SInt16)(destinationBounds.top + verticalDelta));
    SetControlBounds(controlToMove, &controlToMoveBounds);
    return (OSStatus)EmbedControl(controlToMove, inDestinationPane);
}
