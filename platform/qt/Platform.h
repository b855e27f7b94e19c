// Platform: the services a program reaches the system through, created once in main.
#pragma once

namespace hg {

class Files;
class RegistryHive;
class Clock;
class Desktop;
class Dialogs;
class Processes;
class SocketFactory;

struct Platform {
    Files& files;
    RegistryHive& registry;
    Clock& clock;
    Desktop& desktop;
    Dialogs& dialogs;
    Processes& processes;
    SocketFactory& sockets;
};

}  // namespace hg
