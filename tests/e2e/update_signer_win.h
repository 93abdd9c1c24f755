#pragma once

// Signs update files inside a Windows test as the operator's release tool
// does (DER ECDSA P-256 over SHA-256, base64), with two test keys made for
// the tests only.
#include <string>

enum class TestKey { A, B };

// The key's DER SubjectPublicKeyInfo in base64: an UpdateKey slot's text.
std::string TestUpdateKey(TestKey key);

// base64 of the DER signature over `bytes`; empty when CNG cannot sign.
std::string TestSignature(TestKey key, const std::string& bytes);
