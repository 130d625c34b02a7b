/* Key filters for edit-text fields. A filter sees raw key events before the field inserts the
   character: it returns eventNotHandledErr to let the key through and noErr to swallow it. Text
   set by code or pasted never passes through here. */
#include "qel-controlconstraints.h"

#include <stdlib.h>

static const EventTypeSpec kTextConstraintEvents[] = {
    { kEventClassKeyboard, kEventRawKeyDown },
    { kEventClassKeyboard, kEventRawKeyRepeat }
};

/* Installs a filter of the given type on the field; NULL (field left unfiltered) on failure. */
void *AttachTextConstraint(ControlRef inTextField, SInt32 inConstraintType, SInt32 inMaxLength)
{
    ControlConstraint *constraint = (ControlConstraint *)calloc(1, sizeof(ControlConstraint));
    if (constraint == NULL)
        return NULL;

    constraint->textField = inTextField;
    constraint->constraintType = inConstraintType;
    constraint->maxLength = inMaxLength;
    constraint->handlerUPP = NewEventHandlerUPP(TextConstraint);

    OSStatus err = InstallEventHandler(GetControlEventTarget(inTextField), constraint->handlerUPP,
                                       GetEventTypeCount(kTextConstraintEvents), kTextConstraintEvents,
                                       constraint, &constraint->handlerRef);
    if (err != noErr) {
        DisposeEventHandlerUPP(constraint->handlerUPP);
        free(constraint);
        return NULL;
    }
    return constraint;
}

/* A filter of at most inMaxLength characters. */
void *AttachTextLengthConstraint(ControlRef inTextField, SInt32 inMaxLength)
{
    return AttachTextConstraint(inTextField, kTextLengthConstraint, inMaxLength);
}

/* A filter that lets only the ten ASCII digits be typed. */
void *AttachTextDigitOnlyConstraint(ControlRef inTextField)
{
    return AttachTextConstraint(inTextField, kTextDigitOnlyConstraint, 0);
}

/* Removes and frees a filter; NULL is ignored. */
void DetachTextConstraint(void *inControlConstraint)
{
    ControlConstraint *constraint = (ControlConstraint *)inControlConstraint;
    if (constraint == NULL)
        return;
    RemoveEventHandler(constraint->handlerRef);
    DisposeEventHandlerUPP(constraint->handlerUPP);
    free(constraint);
}

/* The handler behind every filter. Control characters (below 0x20) and delete (0x7F) always reach
   the field; every other byte is a character that the key types. */
OSStatus TextConstraint(EventHandlerCallRef inHandlerCallRef, EventRef inEvent, void *inUserData)
{
    (void)inHandlerCallRef;
    ControlConstraint *constraint = (ControlConstraint *)inUserData;
    unsigned char keyPressed = 0;

    if (GetEventParameter(inEvent, kEventParamKeyMacCharCodes, typeChar, NULL, sizeof(keyPressed),
                          NULL, &keyPressed) != noErr)
        return eventNotHandledErr;

    /* The upper half, 0x80 to 0xFF, holds MacRoman's letters and signs (0x8E is e acute): printable
       characters to a filter, whatever isprint says of them in the C locale. */
    if (keyPressed < 0x20 || keyPressed == 0x7F)
        return eventNotHandledErr;

    switch (constraint->constraintType) {
    case kTextLengthConstraint:
        return TextLengthConstraint(constraint->textField, constraint->maxLength);
    case kTextDigitOnlyConstraint:
        return TextDigitOnlyConstraint(keyPressed);
    default:
        return noErr;
    }
}

/* Judged before the key goes in: room left, or a selection that the key will replace. Errors
   reading the field let the key through. */
OSStatus TextLengthConstraint(ControlRef textFieldControl, SInt32 inMaxLength)
{
    CFStringRef textFieldContents = NULL;
    OSStatus err = GetControlData(textFieldControl, kControlEntireControl, kControlEditTextCFStringTag,
                                  sizeof(CFStringRef), &textFieldContents, NULL);
    if (err != noErr)
        return eventNotHandledErr;
    if (textFieldContents == NULL)
        return noErr;

    OSStatus result;
    CFIndex lengthOfTextContents = CFStringGetLength(textFieldContents);
    if (lengthOfTextContents < inMaxLength) {
        result = eventNotHandledErr;
    } else {
        ControlEditTextSelectionRec selectionIndexes = { 0, 0 };
        err = GetControlData(textFieldControl, kControlEntireControl, kControlEditTextSelectionTag,
                             sizeof(selectionIndexes), &selectionIndexes, NULL);
        if (err != noErr || selectionIndexes.selEnd - selectionIndexes.selStart > 0)
            result = eventNotHandledErr;
        else
            result = noErr;
    }
    CFRelease(textFieldContents);
    return result;
}

/* Lets the ten ASCII digits through and swallows everything else. */
OSStatus TextDigitOnlyConstraint(int inKeyPressed)
{
    signed char key = (signed char)(inKeyPressed & 0xFF);
    return (key >= '0' && key <= '9') ? (OSStatus)eventNotHandledErr : (OSStatus)noErr;
}
