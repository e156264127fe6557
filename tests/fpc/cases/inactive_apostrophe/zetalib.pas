unit ZetaLib;

interface

{$IFDEF QUORVEL_NEVER_DEFINED}
  it's not here
{$ENDIF}
function Describe: string;

implementation

function Describe: string;
begin
  Describe := 'ZetaLib';
end;

end.
