#pragma once

namespace korvane {

struct SessionContext;
struct AccountInfo;
class Clock;
class Random;
class Environment;
class CommandRunner;
class CWebMgmt;
class CNetworkMgmt;
class CRegCtrl;
class CUpdateMgmt;
class TunnelOperations;
class IpSelectionSteps;

// The helpers the session procedures (login, service time, logout, report,
// update) work with. Not owning: the program, or a test, builds them and
// keeps them alive as long as the main window.
struct SessionServices {
    SessionContext& session;
    AccountInfo& account;
    // Session time; a login answer's server_time sets it.
    Clock& clock;
    Random& random;
    Environment& environment;
    CommandRunner& commands;
    CWebMgmt& web;
    CNetworkMgmt& network;
    CRegCtrl& settings;
    CUpdateMgmt& updates;
    TunnelOperations& tunnel;
    IpSelectionSteps& ip_selection;
};

}  // namespace korvane
