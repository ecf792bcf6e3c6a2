#pragma once

namespace velmora::linux_platform {

// Tells the name caches that keep a copy of /etc/hosts of their own that it changed: nscd, where it runs
// (`nscd -i hosts`). The C library without a cache and systemd-resolved see the new file on their own; a
// dnsmasq is not the program's to signal. Best effort: started by argument vector with an empty
// environment, its failure is ignored (only root may clear nscd's cache). The platform calls it after every
// switch of the system's /etc/hosts, whoever makes it.
void FlushHostsNameCaches();

}  // namespace velmora::linux_platform
