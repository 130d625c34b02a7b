/* Key filters for edit-text fields: a maximum length and digits only. */
#ifndef QEL_CONTROLCONSTRAINTS_H
#define QEL_CONTROLCONSTRAINTS_H

#include <Carbon/Carbon.h>

enum {
    kTextLengthConstraint = 1,
    kTextDigitOnlyConstraint = 2
};

/* The record behind an attached constraint; callers hold it as an opaque pointer. */
typedef struct ControlConstraint {
    ControlRef textField;
    SInt32 constraintType;
    SInt32 maxLength;
    EventHandlerUPP handlerUPP;
    EventHandlerRef handlerRef;
} ControlConstraint;

void *AttachTextConstraint(ControlRef inTextField, SInt32 inConstraintType, SInt32 inMaxLength);
void *AttachTextLengthConstraint(ControlRef inTextField, SInt32 inMaxLength);
void *AttachTextDigitOnlyConstraint(ControlRef inTextField);
void DetachTextConstraint(void *inControlConstraint);

OSStatus TextConstraint(EventHandlerCallRef inHandlerCallRef, EventRef inEvent, void *inUserData);
OSStatus TextLengthConstraint(ControlRef textFieldControl, SInt32 inMaxLength);
OSStatus TextDigitOnlyConstraint(int inKeyPressed);

#endif
