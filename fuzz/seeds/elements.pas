Juses Foo in 'a;b,c//d.pas', System.Classes, Été, _x,, Bar {x;y}, A (*) x; *); {t} type
