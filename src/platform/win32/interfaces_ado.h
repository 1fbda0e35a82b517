#ifndef TARVIK_PLATFORM_WIN32_INTERFACES_ADO_H_
#define TARVIK_PLATFORM_WIN32_INTERFACES_ADO_H_

// ADO's COM interfaces from mingw-w64's <adoint.h>, in a form GCC accepts.
// The header names each ADO class in a bare statement (`Connection;`) that
// only Microsoft's compiler takes; here each of those names becomes a
// forward declaration of its class, and the header's own typedefs of the
// same names are skipped. Nothing here uses the class names.

#include <windows.h>
// After windows.h: the COM types that ADO's interfaces use.
#include <ole2.h>

#define __Connection_FWD_DEFINED__
#define __Record_FWD_DEFINED__
#define __Stream_FWD_DEFINED__
#define __Command_FWD_DEFINED__
#define __Recordset_FWD_DEFINED__
#define __Parameter_FWD_DEFINED__
#define Connection class ADOConnection
#define Record class ADORecord
#define Stream class ADOStream
#define Command class ADOCommand
#define Recordset class ADORecordset
#define Parameter class ADOParameter
#include <adoint.h>
#undef Connection
#undef Record
#undef Stream
#undef Command
#undef Recordset
#undef Parameter

#endif  // TARVIK_PLATFORM_WIN32_INTERFACES_ADO_H_
