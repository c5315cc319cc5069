#include "app/startup.h"

#include "app/formlorimel.h"
#include "platform/singleinstance.h"

void ConnectHandOff(TSingleInstance& instance, TFormLorimel& form) {
    QObject::connect(&instance, &TSingleInstance::messageReceived, &form,
                     &TFormLorimel::AppEventsMessage);
    QObject::connect(&instance, &TSingleInstance::raiseRequested, &form,
                     &TFormLorimel::BringToFront);
}
