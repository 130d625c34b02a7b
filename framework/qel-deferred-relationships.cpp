/* Rules that run on the run loop's next pass after a burst of commands, through one deferral
   timer per pane, and the Open, Close and Terminate of the panes that use it. */
#include "qel-pane.h"

#include <syslog.h>

/* Seconds the idle timer waits after firing: far enough that only a re-arm makes it fire. */
static const CFTimeInterval kIdleInterval = 86400.0;

void ResetPaneTimer(QEL_PDEContextPtr record)
{
    record->updateRelationshipsTimer = NULL;
}

/* Lets every command go on to the dialog's own handlers after scheduling the rules. */
OSStatus HandleRelationships(EventHandlerCallRef inHandlerCallRef, EventRef inEvent, void *inUserData)
{
    (void)inHandlerCallRef;
    (void)inEvent;
    ScheduleRelationshipUpdate(inUserData);
    return eventNotHandledErr;
}

/* Arms the deferral timer, creating it on the first command of the pane's life. Any number of
   commands before the run loop turns give one firing. */
void ScheduleRelationshipUpdate(void *inUserData)
{
    QEL_PDEContextPtr record = (QEL_PDEContextPtr)inUserData;
    if (record == NULL)
        return;

    if (record->updateRelationshipsTimer != NULL) {
        CFRunLoopTimerSetNextFireDate(record->updateRelationshipsTimer, CFAbsoluteTimeGetCurrent());
        return;
    }

    CFRunLoopTimerContext timerContext = { 0, record, NULL, NULL, NULL };
    CFAbsoluteTime t0 = CFAbsoluteTimeGetCurrent();
    CFAbsoluteTime t1 = CFAbsoluteTimeGetCurrent();
    record->updateRelationshipsTimer = CFRunLoopTimerCreate(kCFAllocatorDefault, t1, t0 + kIdleInterval, 0, 0,
                                                            DelayedRelationshipCallback, &timerContext);
    if (record->updateRelationshipsTimer != NULL)
        CFRunLoopAddTimer(CFRunLoopGetCurrent(), record->updateRelationshipsTimer, kCFRunLoopCommonModes);
    else
        syslog(LOG_ERR, "Relationship timer creation failed! Probably lack of memory.");
}

OSStatus Open(PMPDEContext context)
{
    return context == 0 ? (OSStatus)kPMInvalidPDEContext : (OSStatus)noErr;
}

OSStatus Close(PMPDEContext context)
{
    return context == 0 ? (OSStatus)kPMInvalidPDEContext : (OSStatus)noErr;
}

/* Stops the timer, lets the pane tear down its own attachments, detaches the handler and frees
   the record. Copes with a record whose fields were never filled. */
OSStatus Terminate(PMPDEContext context, OSStatus status)
{
    (void)status;
    QEL_PDEContextPtr record = GetQELContext(context);
    if (record == NULL)
        return noErr;

    if (record->updateRelationshipsTimer != NULL) {
        CFRunLoopRemoveTimer(CFRunLoopGetCurrent(), record->updateRelationshipsTimer, kCFRunLoopCommonModes);
        CFRunLoopTimerInvalidate(record->updateRelationshipsTimer);
        CFRelease(record->updateRelationshipsTimer);
        record->updateRelationshipsTimer = NULL;
    }
    DetachPaneConstraints(record);
    DetachRelationshipHandlers(context);
    DisposeQELContext(record);
    return noErr;
}
