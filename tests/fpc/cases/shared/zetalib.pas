unit ZetaLib;

interface

function Describe: string;

implementation

function Describe: string;
begin
  Describe := 'ZetaLib';
end;

end.
