{$MODE OBJFPC}
unit ZetaLib;

interface

{ was: { Describe } isn't kept }
function Describe: string;

implementation

function Describe: string;
begin
  Describe := 'ZetaLib';
end;

end.
