#pragma once

namespace Corvane { namespace Base { namespace File {

// The SDK's version code from the platform id, major and minor version and
// the second character of the service-pack text (13: newer than any listed).
int WindowsVersionCode(unsigned long platform, unsigned long major, unsigned long minor,
                       char servicePackChar);

}}}
