-- Terms in booking texts that deserve a second look before the return is
-- filed (items that are often not, or only partly, deductible). The analysis
-- compares booking texts against them in lower case.
CREATE TABLE KritischeBegriffe (
    ID      INTEGER PRIMARY KEY,
    Begriff TEXT NOT NULL UNIQUE
);

INSERT INTO KritischeBegriffe (Begriff) VALUES
    ('Arbeitskleidung'),
    ('Arbeitszimmer'),
    ('Auto privat'),
    ('Bewirtung'),
    ('Blumen'),
    ('Bußgeld'),
    ('Feier'),
    ('Fitness'),
    ('Friseur'),
    ('Geburtstag'),
    ('Geschenk'),
    ('Golf'),
    ('Hochzeit'),
    ('Hund'),
    ('Jagd'),
    ('Kleidung'),
    ('Knöllchen'),
    ('Kosmetik'),
    ('Mitgliedsbeitrag'),
    ('Parkverstoß'),
    ('Privat'),
    ('Reise privat'),
    ('Restaurant'),
    ('Schmuck'),
    ('Spende'),
    ('Strafe'),
    ('Urlaub'),
    ('Verwarnung'),
    ('Weihnachtsfeier'),
    ('Zigaretten');
