// The shell's extra controls (ordinal 9): the capitalising edit, whose class the common controls carry.
// The shell's tooltip controls are left out, as the device's common controls leave tooltips out.
#include <aygshell.h>

BOOL WINAPI SHInitExtraControls(void)
{
    INITCOMMONCONTROLSEX init{sizeof init, ICC_CAPEDIT_CLASS};
    return InitCommonControlsEx(&init);
}
