{$MODE OBJFPC}
unit ZetaLib;

interface

type
{$IFDEF QUORVEL_NEVER_DEFINED}
  TThing = class(TInterfacedObject)
{$ELSE}
  TThing = class(TObject)
{$ENDIF}
    Count: Integer;
  end;

function Describe: string;

implementation

function Describe: string;
begin
  Describe := 'ZetaLib';
end;

end.
