// Identifiers of the contact chooser's resources (pimstoreres.dll), shared by the resource script and the
// chooser's code.
#pragma once

#define IDD_CHOOSECONTACT 100
#define IDC_CONTACTLIST 101
#define IDM_CHOOSECONTACT 200
