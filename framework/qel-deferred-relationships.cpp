/* Rules that run on the run loop's next pass after a burst of commands, through one deferral
   timer per pane, and the Open, Close and Terminate of the panes that use it (qel-pane.h). */
#include "qel-pane.h"

#include <syslog.h>

/* One day in seconds, added to the creation time to make the timer's interval: the interval is
   the absolute time of creation plus a day (over twenty years), not a day alone, so once fired the
   timer fires again only when a command re-arms it. */
static const CFTimeInterval kOneDay = 86400.0;

/* The unit uses the timer field by name; qel-pane.h already holds it last in the record. */
static_assert(offsetof(QEL_PDEContext, updateRelationshipsTimer) + sizeof(CFRunLoopTimerRef) == sizeof(QEL_PDEContext),
              "updateRelationshipsTimer is the record's last field");

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
    /* kept on purpose: the interval is creation time plus a day, not kOneDay alone */
    record->updateRelationshipsTimer =
        CFRunLoopTimerCreate(kCFAllocatorDefault, t1, t0 + kOneDay, 0, 0, DelayedRelationshipCallback, &timerContext);
    if (record->updateRelationshipsTimer != NULL)
        CFRunLoopAddTimer(CFRunLoopGetCurrent(), record->updateRelationshipsTimer, kCFRunLoopCommonModes);
    else
        syslog(LOG_ERR, "Relationship timer creation failed! Probably lack of memory.");
}

/* The timer's callback: the pane's own rules, the same that Initialize runs. The timer's info is
   the record, whose address is the PDE context. */
void DelayedRelationshipCallback(CFRunLoopTimerRef timer, void *inUserData)
{
    (void)timer;
    EnforceRelationships((PMPDEContext)inUserData);
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
