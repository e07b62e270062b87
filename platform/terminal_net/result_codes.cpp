#include "platform/terminal_net/result_codes.h"

#include <array>

namespace tarvex {
namespace {

constexpr std::string_view kApiTitle = "ZELAPI32.DLL Error";
constexpr std::string_view kSharedDataTitle = "Zelvar Shared Data Access Error";
constexpr std::string_view kSocketTitle = "Winsock Error";

constexpr std::array kRows = {
    TerminalResultInfo{1, "ZEL_BAD_CONNECT",
                       "ZELAPI32.DLL was not able to communicate with the PC.", kApiTitle},
    TerminalResultInfo{
        2, "ZEL_INVALID_FIELD",
        "There is an invalid field in the calling parameters to ZELAPI32.DLL.", kApiTitle},
    TerminalResultInfo{
        4, "ZEL_INVALID_TERMINAL",
        "There is an invalid terminal number in the calling parameters to ZELAPI32.DLL.",
        kApiTitle},
    TerminalResultInfo{
        -1, "ZEL_TOO_MANY_PROCESSES",
        "Only one process at a time may be registered with ZELAPI32.DLL.  There was a second "
        "register process call without an intervening close to the first process call.",
        kApiTitle},
    TerminalResultInfo{-2, "ZEL_INVALID_PROCESS",
                       "A process attempted a Zelvar communication function without first "
                       "registering with ZELAPI32.DLL.",
                       kApiTitle},
    TerminalResultInfo{-4, "ZEL_NO_HEAP_MEMORY",
                       "ZELAPI32.DLL was unsuccessful in allocating heap memory.", kApiTitle},
    TerminalResultInfo{65, "ZEL_INVALID_SD_FIELD_NAME",
                       "The Zelvar returned an error status indicating that the shared data "
                       "field name in a read or write call was not a valid name.",
                       kSharedDataTitle},
    TerminalResultInfo{67, "ZEL_INVALID_BUFFER_LENGTH",
                       "The buffer length of the read or write operation was not valid.",
                       kSharedDataTitle},
    TerminalResultInfo{68, "ZEL_SD_END_OF_FILE",
                       "The read operation for shared data encountered an end file.",
                       kSharedDataTitle},
    TerminalResultInfo{69, "ZEL_SD_WRITE_NOT_ALLOWED",
                       "Writing to particular shared data fields is not allowed. This is "
                       "particularly true when the Zelvar 'legal for trade' jumper is on.",
                       kSharedDataTitle},
    TerminalResultInfo{10004, "WSAEINTR",
                       "Interrupted function call. A blocking operation was interrupted by a "
                       "call that cancelled it.",
                       kSocketTitle},
    TerminalResultInfo{10013, "WSAEACCES",
                       "Permission denied. The socket was accessed in a way its access "
                       "permissions forbid.",
                       kSocketTitle},
    TerminalResultInfo{10014, "WSAEFAULT",
                       "Bad address. A pointer argument of the call was not a valid address, "
                       "or a buffer given was too small.",
                       kSocketTitle},
    TerminalResultInfo{10022, "WSAEINVAL",
                       "Some invalid argument was supplied to the call, or the socket is in a "
                       "state that does not allow it.",
                       kSocketTitle},
    TerminalResultInfo{10024, "WSAEMFILE",
                       "Too many open files. No further socket can be opened by this process "
                       "or thread.",
                       kSocketTitle},
    TerminalResultInfo{10035, "WSAEWOULDBLOCK",
                       "Resource temporarily unavailable. An operation on a non-blocking "
                       "socket cannot complete at once; it may be retried later.",
                       kSocketTitle},
    TerminalResultInfo{10036, "WSAEINPROGRESS",
                       "Operation now in progress. A blocking operation is already running.",
                       kSocketTitle},
    TerminalResultInfo{10037, "WSAEALREADY",
                       "Operation already in progress. The operation was started on a "
                       "non-blocking socket that already has one in progress.",
                       kSocketTitle},
    TerminalResultInfo{10038, "WSAENOTSOCK",
                       "Socket operation on non-socket. The handle given does not name a "
                       "socket.",
                       kSocketTitle},
    TerminalResultInfo{10039, "WSAEDESTADDRREQ",
                       "Destination address required. The operation needs an address that was "
                       "left out.",
                       kSocketTitle},
    TerminalResultInfo{10040, "WSAEMSGSIZE",
                       "Message too long. A message was larger than the buffer that receives "
                       "it or than the protocol's limit.",
                       kSocketTitle},
    TerminalResultInfo{10041, "WSAEPROTOTYPE",
                       "Protocol wrong type for socket. The protocol given does not support "
                       "the socket type requested.",
                       kSocketTitle},
    TerminalResultInfo{10042, "WSAENOPROTOOPT",
                       "Bad protocol option. An unknown or unsupported option or level was "
                       "given.",
                       kSocketTitle},
    TerminalResultInfo{10043, "WSAEPROTONOSUPPORT",
                       "Protocol not supported. The protocol is not configured on this system.",
                       kSocketTitle},
    TerminalResultInfo{10044, "WSAESOCKTNOSUPPORT",
                       "Socket type not supported. This address family does not offer the "
                       "socket type asked for.",
                       kSocketTitle},
    TerminalResultInfo{10045, "WSAEOPNOTSUPP",
                       "Operation not supported. The socket's type does not support the "
                       "operation attempted.",
                       kSocketTitle},
    TerminalResultInfo{10046, "WSAEPFNOSUPPORT",
                       "Protocol family not supported. The protocol family is not configured "
                       "on this system.",
                       kSocketTitle},
    TerminalResultInfo{10047, "WSAEAFNOSUPPORT",
                       "Address family not supported by protocol family. The address given "
                       "does not fit the requested protocol.",
                       kSocketTitle},
    TerminalResultInfo{10048, "WSAEADDRINUSE",
                       "Address already in use. Each socket address may normally be used only "
                       "once.",
                       kSocketTitle},
    TerminalResultInfo{10049, "WSAEADDRNOTAVAIL",
                       "Cannot assign requested address. The address is not valid on this "
                       "computer.",
                       kSocketTitle},
    TerminalResultInfo{10050, "WSAENETDOWN",
                       "Network is down. The network system, its interface or the local "
                       "network itself has failed.",
                       kSocketTitle},
    TerminalResultInfo{10051, "WSAENETUNREACH",
                       "Network is unreachable. No route to the remote network is known.",
                       kSocketTitle},
    TerminalResultInfo{10052, "WSAENETRESET",
                       "Network dropped connection on reset. The connection broke because a "
                       "keep-alive found a failure while the operation was in progress.",
                       kSocketTitle},
    TerminalResultInfo{10053, "WSAECONNABORTED",
                       "Software caused connection abort. This computer ended an established "
                       "connection, for example after a time-out.",
                       kSocketTitle},
    TerminalResultInfo{10054, "WSAECONNRESET",
                       "Connection reset by peer. The remote side closed the connection by "
                       "force, for example because it stopped or restarted.",
                       kSocketTitle},
    TerminalResultInfo{10055, "WSAENOBUFS",
                       "No buffer space available. The system lacked buffer space or a queue "
                       "was full.",
                       kSocketTitle},
    TerminalResultInfo{10056, "WSAEISCONN",
                       "Socket is already connected. A connect request was made on a "
                       "connected socket.",
                       kSocketTitle},
    TerminalResultInfo{10057, "WSAENOTCONN",
                       "Socket is not connected. Data cannot be sent or received on a socket "
                       "that has no connection.",
                       kSocketTitle},
    TerminalResultInfo{10058, "WSAESHUTDOWN",
                       "Cannot send after socket shutdown. That direction of the socket was "
                       "already shut down.",
                       kSocketTitle},
    TerminalResultInfo{10060, "WSAETIMEDOUT",
                       "Connection timed out. The connected party did not answer in time, or "
                       "the connected host failed to respond.",
                       kSocketTitle},
    TerminalResultInfo{10061, "WSAECONNREFUSED",
                       "Connection refused. No connection could be made because nothing "
                       "accepts connections at the target address.",
                       kSocketTitle},
    TerminalResultInfo{10064, "WSAEHOSTDOWN",
                       "Host is down. The destination host did not answer because it is not "
                       "running.",
                       kSocketTitle},
    TerminalResultInfo{10065, "WSAEHOSTUNREACH",
                       "No route to host. The host cannot be reached from this computer.",
                       kSocketTitle},
    TerminalResultInfo{10067, "WSAEPROCLIM",
                       "Too many processes. The sockets implementation limits the number of "
                       "programs using it at once.",
                       kSocketTitle},
    TerminalResultInfo{10091, "WSASYSNOTREADY",
                       "Network subsystem is unavailable. The network service the sockets "
                       "implementation relies on cannot work at present.",
                       kSocketTitle},
    TerminalResultInfo{10092, "WSAVERNOTSUPPORTED",
                       "WINSOCK.DLL version out of range. The sockets implementation does not "
                       "support the version requested.",
                       kSocketTitle},
    TerminalResultInfo{10093, "WSANOTINITIALISED",
                       "Successful WSAStartup not yet performed. The program has not started "
                       "the sockets implementation.",
                       kSocketTitle},
    TerminalResultInfo{10101, "WSAEDISCON",
                       "Graceful shutdown in progress. The remote side has begun to close the "
                       "connection.",
                       kSocketTitle},
    TerminalResultInfo{11001, "WSAHOST_NOT_FOUND",
                       "Host not found. No such host is known.", kSocketTitle},
    TerminalResultInfo{11002, "WSATRY_AGAIN",
                       "Non-authoritative host not found. A temporary failure in resolving "
                       "the host name; trying again later may succeed.",
                       kSocketTitle},
    TerminalResultInfo{11003, "WSANO_RECOVERY",
                       "This is a non-recoverable error. The name service failed for good.",
                       kSocketTitle},
    TerminalResultInfo{11004, "WSANO_DATA",
                       "Valid name, no data record of requested type. The name is known but "
                       "holds no address of the kind asked for.",
                       kSocketTitle},
};

constexpr TerminalResultInfo kUnknown{0, "?", "Unknown error occured", "Unknown Error"};

}  // namespace

const TerminalResultInfo& LookUpTerminalResult(int16_t code) {
  for (const TerminalResultInfo& row : kRows) {
    if (row.code == code) return row;
  }
  return kUnknown;
}

std::string TerminalResultMessage(int16_t code) {
  const TerminalResultInfo& row = LookUpTerminalResult(code);
  std::string message = "Error Code= ";
  message += row.name;
  message += "\n\r";
  message += row.text;
  return message;
}

}  // namespace tarvex
