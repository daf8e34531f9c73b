// Resource identifiers of Tessmark.exe.
#pragma once

#define IDI_FRMHOOKWATCH 101
