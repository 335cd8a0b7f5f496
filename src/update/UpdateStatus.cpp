#include "update/UpdateStatus.h"

#include "update/UpdateStatusText.h"

QString updateStatusText(int code)
{
    return UpdateStatusText::text(code);
}
