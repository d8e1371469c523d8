#pragma once

class CSqliteDatabase;

// A step of the record's schema: the addresses of what was sent, in the spelling sources now
// give them (NormalAddress), so that a record kept before sends nothing again for a spelling
// it holds. A target's spellings of one address become one: with the latest date the source
// gave, and the latest send with its verdict. An address NormalAddress refuses stays as it
// was, as no source gives it any more. Runs in the caller's transaction; returns SQLite's
// result code.
int NormaliseSentAddresses(CSqliteDatabase& db);
