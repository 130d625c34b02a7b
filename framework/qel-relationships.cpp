/* The command handler on the pane's container, through which the rules follow the user. */
#include "qel-identity.h"
#include "qel-pane.h"

static const EventTypeSpec kRelationshipEvents[] = { { kEventClassCommand, kEventCommandProcess } };

/* Installs HandleRelationships on the container. If that fails the pane simply gets no rule
   updates from user actions. */
void AttachRelationshipHandlers(PMPDEContext context)
{
    QEL_PDEContextPtr record = GetQELContext(context);
    if (record == NULL)
        return;
    if (kQELShowsAttachTrace)
        CFShow(CFSTR("AttachRelationshipHandlers"));

    record->relationshipHandlerUPP = NewEventHandlerUPP(HandleRelationships);
    OSStatus err = InstallEventHandler(GetControlEventTarget(record->control_InvisiblePane),
                                       record->relationshipHandlerUPP, GetEventTypeCount(kRelationshipEvents),
                                       kRelationshipEvents, record, &record->relationshipEventRef);
    if (err != noErr) {
        DisposeEventHandlerUPP(record->relationshipHandlerUPP);
        record->relationshipHandlerUPP = NULL;
        record->relationshipEventRef = NULL;
    }
}

/* Removes the handler and its procedure pointer, whichever of them exists. */
void DetachRelationshipHandlers(PMPDEContext context)
{
    QEL_PDEContextPtr record = GetQELContext(context);
    if (record == NULL)
        return;
    if (record->relationshipEventRef != NULL) {
        RemoveEventHandler(record->relationshipEventRef);
        record->relationshipEventRef = NULL;
    }
    if (record->relationshipHandlerUPP != NULL) {
        DisposeEventHandlerUPP(record->relationshipHandlerUPP);
        record->relationshipHandlerUPP = NULL;
    }
}
