-- Schema version of the program's reference database: the newest case schema
-- this program writes. A case database with a lower version is brought up to
-- date when it is opened.
CREATE TABLE Version (
    Version INTEGER NOT NULL
);
INSERT INTO Version (Version) VALUES (20161425);
