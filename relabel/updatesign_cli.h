#pragma once

#include <ostream>
#include <span>
#include <string>

// The operator's update-signing tool, without argv[0]; arguments are UTF-8.
//   keygen KEY                       writes a new P-256 private key (PEM) to KEY, never over
//                                    an existing file, and prints its UpdateKey text
//   pubkey KEY                       prints the UpdateKey text of a private key
//   describe PROGRAM URL -k KEY [-o OUT]
//                                    the signed update description of PROGRAM, to be
//                                    published with the file at URL
//   verify DESCRIPTION FILE INSTALLED
//                                    the checks the INSTALLED client makes before it takes
//                                    FILE as described
// Returns 0 on success (verify: the file would be taken), 1 when a check
// refuses or an output cannot be written, 2 for bad input.
int RunUpdateSign(std::span<const std::string> args, std::ostream& out, std::ostream& err);
