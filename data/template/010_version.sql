-- Schema version of a case database. The program compares it with the
-- version of its reference database to decide whether an opened case must be
-- converted; exactly one row.
CREATE TABLE Version (
    Version INTEGER NOT NULL
);
INSERT INTO Version (Version) VALUES (20161425);
