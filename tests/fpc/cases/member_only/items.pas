unit Items;

interface

type
  TItem = record
    Describe: string;
  end;

var
  Item: TItem;

implementation

end.
